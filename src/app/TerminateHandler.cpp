// The handler std::terminate has until WinMain installs the program's own. libstdc++'s default
// prints the demangled type of the exception to a standard error stream that a GUI program does
// not have, and brings the whole demangler (some 46 KiB) into the executable.
#include <cstdlib>
#include <exception>

#if defined(__GLIBCXX__)
namespace __gnu_cxx {

void __verbose_terminate_handler() {
    std::abort();
}

} // namespace __gnu_cxx
#endif
