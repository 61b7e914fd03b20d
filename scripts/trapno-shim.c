/* Preloaded into 32-bit Wine when it runs under qemu-i386 user-mode emulation.
 *
 * Wine's i386 fault handlers tell a page fault from a protection fault, a breakpoint from a single
 * step, by the trap number in the signal context. qemu fills the context but leaves that number at
 * -1, so every access violation would reach Wine as an unknown trap and end the program instead of
 * raising an exception that the program (or Wine itself: guard pages, IsBadReadPtr) handles.
 * This library wraps the handlers Wine installs for the fault signals and derives the trap number
 * from the signal and its si_code before Wine sees the context.
 *
 * Built freestanding for i386 (no 32-bit development headers needed) and linked against the 32-bit
 * C library that Wine already uses. */

typedef unsigned int u32;

/* glibc's i386 struct sigaction. */
struct kaction {
  void *handler;
  u32 mask[32];
  int flags;
  void *restorer;
};

typedef void (*info_handler)(int, void *, void *);

extern void *dlsym(void *, const char *);
extern int unsetenv(const char *);

#define NEXT_LIBRARY ((void *)-1) /* RTLD_NEXT */
#define SA_SIGINFO_FLAG 4
#define SIGNALS 65

enum { SIG_ILL = 4, SIG_TRAP = 5, SIG_BUS = 7, SIG_FPE = 8, SIG_SEGV = 11 };
/* Trap numbers of the x86 exceptions that Wine tells apart. */
enum { T_DIVIDE = 0, T_DEBUG = 1, T_BREAKPOINT = 3, T_INVALID_OP = 6, T_PROTECTION = 13,
       T_PAGE_FAULT = 14, T_FPU = 16, T_ALIGNMENT = 17 };

static info_handler wine_handlers[SIGNALS];
static int (*next_sigaction)(int, const struct kaction *, struct kaction *);

static int is_fault_signal(int sig) {
  return sig == SIG_ILL || sig == SIG_TRAP || sig == SIG_BUS || sig == SIG_FPE || sig == SIG_SEGV;
}

static u32 trap_for(int sig, int code) {
  switch (sig) {
  case SIG_SEGV: return (code == 1 || code == 2) ? T_PAGE_FAULT : T_PROTECTION; /* MAPERR, ACCERR */
  case SIG_BUS: return T_ALIGNMENT;
  case SIG_FPE: return (code == 1 || code == 2) ? T_DIVIDE : T_FPU;             /* INTDIV, INTOVF */
  case SIG_TRAP: return code == 0x80 ? T_BREAKPOINT : T_DEBUG;                 /* SI_KERNEL: int3 */
  default: return T_INVALID_OP;
  }
}

static void fault_entry(int sig, void *info, void *ucontext) {
  /* siginfo: si_signo, si_errno, si_code; ucontext: flags, link, 12-byte stack, then gregs[19]
   * of which REG_TRAPNO is the 13th. */
  int code = ((int *)info)[2];
  u32 *trapno = (u32 *)((char *)ucontext + 20) + 12;
  if (*trapno == 0xffffffffu) *trapno = trap_for(sig, code);
  wine_handlers[sig](sig, info, ucontext);
}

int sigaction(int sig, const struct kaction *action, struct kaction *old) {
  int result;
  info_handler previous;
  if (!next_sigaction) next_sigaction = dlsym(NEXT_LIBRARY, "sigaction");
  if (sig <= 0 || sig >= SIGNALS || !is_fault_signal(sig)) return next_sigaction(sig, action, old);
  previous = wine_handlers[sig];
  if (action && (action->flags & SA_SIGINFO_FLAG) && (unsigned long)action->handler > 1) {
    struct kaction wrapped = *action;
    wrapped.handler = (void *)fault_entry;
    result = next_sigaction(sig, &wrapped, old);
    if (result == 0) wine_handlers[sig] = (info_handler)action->handler;
  } else {
    result = next_sigaction(sig, action, old);
    if (result == 0 && action) wine_handlers[sig] = 0;
  }
  /* The caller sees its own handler, never the wrapper. */
  if (result == 0 && old && old->handler == (void *)fault_entry) old->handler = (void *)previous;
  return result;
}

/* qemu hands this library to every 32-bit process it starts (QEMU_SET_ENV); the variable itself
 * must not reach native 64-bit children such as the wine server, whose loader would complain. */
__attribute__((constructor)) static void forget_preload(void) { unsetenv("LD_PRELOAD"); }
