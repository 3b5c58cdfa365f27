#include "plugin_guard.h"

#include "scoped_handles.h"

namespace {

// The exception registration record of one guarded call, on that call's own stack: the system
// reads the first two words, the other two are ours.
struct GuardFrame {
    GuardFrame* next;
    void* handler;
    void* callFrame; // the frame pointer of the guarded call
    PluginFault* fault;
};

} // namespace

extern "C" {
int vx_call_guarded(FARPROC function, const uint32_t* arguments, uint32_t count, int32_t* result,
                    PluginFault* fault);
[[noreturn]] void vx_guard_resume(GuardFrame* frame);
}

// vx_call_guarded pushes the caller's registers, saves the floating-point control word, links a
// GuardFrame into the thread's exception chain (fs:0), pushes the arguments last to first and
// calls. On return it stores the result and gives 1. vx_guard_resume, entered from the handler
// with the exception still being dispatched, goes back to the guarded call's frame and leaves it
// through the same exit with 0: the stack pointer is set from the frame pointer, so whatever the
// plug-in and the dispatcher left below it is dropped, and unlinking the GuardFrame drops their
// registrations too.
//
// Frame of vx_call_guarded, from its frame pointer: +8 function, +12 arguments, +16 count,
// +20 result, +24 fault; -4 ebx, -8 esi, -12 edi, -16 control word, -20 .. -32 the GuardFrame
// (fault, call frame, handler, next).
asm(R"(
    .text
    .globl _vx_call_guarded
    .def _vx_call_guarded; .scl 2; .type 32; .endef
_vx_call_guarded:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    subl $4, %esp
    fnstcw -16(%ebp)
    pushl 24(%ebp)
    pushl %ebp
    pushl $_vx_guard_handler
    pushl %fs:0
    movl %esp, %fs:0
    movl 16(%ebp), %ecx
    movl 12(%ebp), %esi
1:
    testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%esi,%ecx,4)
    jmp 1b
2:
    call *8(%ebp)
    movl 20(%ebp), %ecx
    movl %eax, (%ecx)
    movl $1, %eax
    jmp 3f

    .globl _vx_guard_resume
    .def _vx_guard_resume; .scl 2; .type 32; .endef
_vx_guard_resume:
    movl 4(%esp), %eax
    movl 8(%eax), %ebp
    cld
    fninit
    fldcw -16(%ebp)
    xorl %eax, %eax
3:
    leal -32(%ebp), %esp
    popl %ecx
    movl %ecx, %fs:0
    addl $16, %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");

// Called by the system for an exception that the plug-in's own handlers, all registered inside
// ours, let pass. Unwind passes are not ours to stop.
extern "C" __attribute__((used))
EXCEPTION_DISPOSITION __cdecl vx_guard_handler(EXCEPTION_RECORD* record, void* establisherFrame,
                                               CONTEXT*, void*) {
    if ((record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) != 0) {
        return ExceptionContinueSearch;
    }
    GuardFrame* frame = static_cast<GuardFrame*>(establisherFrame);
    frame->fault->code = record->ExceptionCode;
    frame->fault->address = record->ExceptionAddress;
    vx_guard_resume(frame);
}

namespace {

// A stack overflow used up the stack's guard page; without a new one the next overflow on this
// thread would end the process at once.
void RenewStackGuardPage() {
    typedef int(__cdecl * ResetFn)();
    if (auto reset = BindProc<ResetFn>(GetModuleHandleA("msvcrt.dll"), "_resetstkoflw")) {
        reset();
    }
}

} // namespace

int CallGuarded(FARPROC function, const uint32_t* arguments, uint32_t count, int32_t* result,
                PluginFault* fault) {
    *fault = PluginFault{};
    if (vx_call_guarded(function, arguments, count, result, fault)) {
        return 1;
    }
    if (fault->code == EXCEPTION_STACK_OVERFLOW) {
        RenewStackGuardPage();
    }
    return 0;
}
