#pragma once

namespace except {

// Base of the library's classes that own something that must not be duplicated.
class NonCopyable {
protected:
    NonCopyable() = default;
    ~NonCopyable() = default;

public:
    NonCopyable(const NonCopyable&) = delete;
    NonCopyable& operator=(const NonCopyable&) = delete;
};

// One instance per module lifetime, made on first use and destroyed at library unload.
template <typename T> class SingletonStatic {
public:
    static T& Instance() {
        static T instance;
        return instance;
    }

protected:
    SingletonStatic() = default;
    ~SingletonStatic() = default;
};

} // namespace except
