/* The few Windows declarations that owlgraphic.h and the Microsoft-mode host
 * use, for clang in Microsoft mode on a machine without the Windows SDK. */
#ifndef OWL_MSVC_HOST_WINDOWS_H
#define OWL_MSVC_HOST_WINDOWS_H

typedef struct HDC__* HDC;

#ifdef __cplusplus
extern "C" {
#endif
__declspec(dllimport) __declspec(noreturn) void __stdcall ExitProcess(unsigned int exitCode);
#ifdef __cplusplus
}
#endif

#endif
