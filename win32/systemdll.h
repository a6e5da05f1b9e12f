#pragma once

#include <windows.h>

namespace runetally::win32 {

// A function of a system DLL, loaded on first use and kept: what the program needs only now and
// then costs nothing at start-up. Null when the DLL or the function is not there.
template <class Function> Function* SystemFunction(const wchar_t* dll, const char* name) {
    const HMODULE module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module == nullptr
               ? nullptr
               : reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace runetally::win32
