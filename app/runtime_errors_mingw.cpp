// How the program ends when the standard library reports a broken
// invariant or exhausted memory: at once, through abort.
//
// The program catches none of these reports, so each would end it through
// std::terminate anyway. Defined here, they keep libstdc++'s exception texts,
// string instantiations and the demangler of its terminate report (which a
// program without a console cannot show) out of the exe: some 100 KB that
// would otherwise be part of every run's memory.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

// The whole set that libstdc++ keeps in one object: defining every one keeps
// that object, and what it would pull in, out of the link.
namespace std {
[[noreturn]] void __throw_bad_alloc() { std::abort(); }
[[noreturn]] void __throw_bad_array_new_length() { std::abort(); }
[[noreturn]] void __throw_bad_cast() { std::abort(); }
[[noreturn]] void __throw_bad_exception() { std::abort(); }
[[noreturn]] void __throw_bad_typeid() { std::abort(); }
[[noreturn]] void __throw_domain_error(const char*) { std::abort(); }
[[noreturn]] void __throw_invalid_argument(const char*) { std::abort(); }
[[noreturn]] void __throw_length_error(const char*) { std::abort(); }
[[noreturn]] void __throw_logic_error(const char*) { std::abort(); }
[[noreturn]] void __throw_out_of_range(const char*) { std::abort(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
[[noreturn]] void __throw_overflow_error(const char*) { std::abort(); }
[[noreturn]] void __throw_range_error(const char*) { std::abort(); }
[[noreturn]] void __throw_runtime_error(const char*) { std::abort(); }
[[noreturn]] void __throw_underflow_error(const char*) { std::abort(); }
// In an object of its own.
[[noreturn]] void __throw_bad_function_call() { std::abort(); }
}  // namespace std
