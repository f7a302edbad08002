// Writes its argument vector, one argument a line (ANSI), into echo_args.txt in the current folder.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    FILE* f = _wfopen(L"echo_args.txt", L"w");
    if (!f) return 1;
    for (int i = 1; i < argc; ++i) fwprintf(f, L"%ls\n", argv[i]);
    fclose(f);
    return 0;
}
