// The export table of the stand-in opengl32.dll: six WGL calls answered here (they may fail on
// request, and the pixel-format ones offer the test's formats), every other export of wine's
// opengl32.dll a jump to the real one. The jumps need no signature: each passes its caller's
// registers and stack through untouched, resolving the real address at its first call.
#include "tests/win32/opengl32_standin.h"

namespace {

// One per forwarded export: the real address, 0 until the first call, and the export's name.
struct TForwardSlot {
  void* mAddress;
  const char* mName;
};

} // namespace

extern "C" void* resolveForwardedStandin(TForwardSlot* ParaSlot) {
  ParaSlot->mAddress = RealEntryPointStandin(ParaSlot->mName);
  return ParaSlot->mAddress;
}

// The shared tail of every jump, entered with the slot in rax and the caller's frame as it was
// at the call. NOTE: a slot not yet resolved goes through a frame of its own that keeps the
// four argument registers of either kind (x64 passes a float in xmm0-3, an integer in rcx,
// rdx, r8, r9) in the caller's home area and its own stack around the C++ resolver.
asm(R"(
	.text
	.p2align 4
forwardCommonStandin:
	movq (%rax), %r11
	testq %r11, %r11
	jz forwardResolveStandin
	jmpq *%r11

	.p2align 4
	.seh_proc forwardResolveStandin
forwardResolveStandin:
	subq $104, %rsp
	.seh_stackalloc 104
	.seh_endprologue
	movq %rcx, 112(%rsp)
	movq %rdx, 120(%rsp)
	movq %r8, 128(%rsp)
	movq %r9, 136(%rsp)
	movdqu %xmm0, 32(%rsp)
	movdqu %xmm1, 48(%rsp)
	movdqu %xmm2, 64(%rsp)
	movdqu %xmm3, 80(%rsp)
	movq %rax, %rcx
	call resolveForwardedStandin
	movq 112(%rsp), %rcx
	movq 120(%rsp), %rdx
	movq 128(%rsp), %r8
	movq 136(%rsp), %r9
	movdqu 32(%rsp), %xmm0
	movdqu 48(%rsp), %xmm1
	movdqu 64(%rsp), %xmm2
	movdqu 80(%rsp), %xmm3
	addq $104, %rsp
	jmpq *%rax
	.seh_endproc
)");

// The jump, its slot and its name, exported under the name through the linker directives.
#define FORWARDED(Name)                                                                            \
  asm(".data\n"                                                                                    \
      "\t.p2align 3\n"                                                                             \
      "slot_" #Name ":\n"                                                                          \
      "\t.quad 0, name_" #Name "\n"                                                                \
      "\t.section .rdata,\"dr\"\n"                                                                 \
      "name_" #Name ":\n"                                                                          \
      "\t.asciz \"" #Name "\"\n"                                                                   \
      "\t.text\n"                                                                                  \
      "\t.globl " #Name "\n" #Name ":\n"                                                           \
      "\tleaq slot_" #Name "(%rip), %rax\n"                                                        \
      "\tjmp forwardCommonStandin\n"                                                               \
      "\t.section .drectve\n"                                                                      \
      "\t.ascii \" -export:" #Name "\"\n"                                                          \
      "\t.text\n");
#include "tests/win32/opengl32_forwarded.inc"
#undef FORWARDED

#define STANDIN_EXPORT extern "C" __declspec(dllexport)

namespace {

template <typename TFunction> TFunction realStandin(const char* ParaName) {
  return reinterpret_cast<TFunction>(RealEntryPointStandin(ParaName));
}

} // namespace

// The WGL types by their calling convention: a handle or a descriptor is a pointer, BOOL int.
STANDIN_EXPORT int wglDescribePixelFormat(void* ParaDC, int ParaFormat, unsigned ParaSize,
                                          void* ParaDescriptor) {
  if (FailsStandin("wglDescribePixelFormat")) {
    return 0;
  }
  static const auto real = realStandin<int (*)(void*, int, unsigned, void*)>(__func__);
  const int highest = real(ParaDC, ParaFormat, ParaSize, ParaDescriptor);
  OfferFormatStandin(ParaDC, highest, ParaFormat, ParaSize, ParaDescriptor);
  return highest;
}

STANDIN_EXPORT int wglChoosePixelFormat(void* ParaDC, const void* ParaDescriptor) {
  if (FailsStandin("wglChoosePixelFormat")) {
    return 0;
  }
  static const auto real = realStandin<int (*)(void*, const void*)>(__func__);
  return real(ParaDC, ParaDescriptor);
}

STANDIN_EXPORT int wglSetPixelFormat(void* ParaDC, int ParaFormat, const void* ParaDescriptor) {
  LogSetPixelFormatStandin(ParaFormat);
  if (FailsStandin("wglSetPixelFormat")) {
    return 0;
  }
  static const auto real = realStandin<int (*)(void*, int, const void*)>(__func__);
  return real(ParaDC, ParaFormat, ParaDescriptor);
}

STANDIN_EXPORT void* wglCreateContext(void* ParaDC) {
  if (FailsStandin("wglCreateContext")) {
    return nullptr;
  }
  static const auto real = realStandin<void* (*)(void*)>(__func__);
  return real(ParaDC);
}

STANDIN_EXPORT int wglMakeCurrent(void* ParaDC, void* ParaContext) {
  if (FailsStandin("wglMakeCurrent")) {
    return 0;
  }
  static const auto real = realStandin<int (*)(void*, void*)>(__func__);
  return real(ParaDC, ParaContext);
}

STANDIN_EXPORT int wglDeleteContext(void* ParaContext) {
  if (FailsStandin("wglDeleteContext")) {
    return 0;
  }
  static const auto real = realStandin<int (*)(void*)>(__func__);
  return real(ParaContext);
}
