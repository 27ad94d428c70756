// Built as a libGL.so.1 that exports nothing: the OpenGL fault tests' missing entry points.
