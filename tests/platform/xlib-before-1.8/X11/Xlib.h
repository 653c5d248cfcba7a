// Xlib.h as libX11 releases before 1.8 have it: the same header without the I/O error exit
// handler. The real declarations are renamed while it is read, and the names then left
// undeclared, so code that still calls the handler fails to compile.
#ifndef QUILLMARCH_XLIB_BEFORE_1_8
#define QUILLMARCH_XLIB_BEFORE_1_8
#define XSetIOErrorExitHandler quillmarch_hidden_XSetIOErrorExitHandler
#define XIOErrorExitHandler quillmarch_hidden_XIOErrorExitHandler
#include_next <X11/Xlib.h>
#undef XSetIOErrorExitHandler
#undef XIOErrorExitHandler
#endif
