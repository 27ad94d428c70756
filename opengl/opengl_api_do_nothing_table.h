// A table of OpenGL 1.0 and 1.1 functions that do nothing, for drawing without a context
// (the headless driver, tests). Generated together with the groups; pairs with their headers.
#pragma once

// Points every variable of TOpenGLAPIVersion100 and TOpenGLAPIVersion110 at a function that
// does nothing and answers zero. Leaves the groups' initialized flags alone.
void InstallDoNothingOpenGLTable();
