// A table of OpenGL 1.0 and 1.1 functions that record every call, for the tests and
// benchmarks that check what was drawn. Generated with the groups; pairs with their headers.
#pragma once

#include <memory>
#include <string>
#include <vector>

// While it lives, every variable of TOpenGLAPIVersion100 and TOpenGLAPIVersion110 points at a
// function that appends its call to ParaCalls as "glName argument ...", and answers zero:
// integers in decimal, GLfloat to 9 significant digits, GLdouble to 17, pointers in hex. Its
// destructor puts back the values that were there before, so tables nest. The groups'
// initialized flags are left alone.
class TRecordingOpenGLTable {
public:
  explicit TRecordingOpenGLTable(std::vector<std::string>& ParaCalls);
  ~TRecordingOpenGLTable();
  TRecordingOpenGLTable(const TRecordingOpenGLTable&) = delete;
  TRecordingOpenGLTable& operator=(const TRecordingOpenGLTable&) = delete;

private:
  struct TSaved; // every variable as it was
  std::unique_ptr<TSaved> mSaved;
  std::vector<std::string>* mPreviousCalls;
};
