// The stand-in opengl32.dll of the wine tests: what its exports (opengl32_standin_exports.cpp,
// which sees no Windows header, so that it can define the names wingdi.h declares) ask of its
// behaviour (opengl32_standin.cpp). Handles and descriptors travel as plain pointers.
#pragma once

// The address of an export of wine's own opengl32.dll, which is loaded at the first call that
// needs it; ends the process if either is missing.
void* RealEntryPointStandin(const char* ParaName);

// Whether this run fails ParaName; if so, the failure is logged and the thread's last-error
// code is set to the configured one.
bool FailsStandin(const char* ParaName);

// Rewrites the flags of a described format to the set this run offers (the first call plans
// the set from every format of ParaDC). ParaHighest is the real library's answer.
void OfferFormatStandin(void* ParaDC, int ParaHighest, int ParaFormat, unsigned ParaSize,
                        void* ParaDescriptor);

void LogSetPixelFormatStandin(int ParaFormat);
