// One counted reference to a COM-style interface, released when the holder goes, so every early
// return lets go of what it holds. Move-only: a moved-from holder is empty, and assigning over a
// holder releases what it held first.
#pragma once

#include <utility>

template <class Interface> class ComRef {
public:
    ComRef() = default;
    // Takes over a reference the caller already owns (a new object, an out-parameter).
    explicit ComRef(Interface* owned) noexcept : p_(owned) {}
    ComRef(ComRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() { reset(); }

    Interface* get() const noexcept { return p_; }
    Interface* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    // For factory out-parameters: lets go of the current reference first.
    Interface** receive() noexcept {
        reset();
        return &p_;
    }
    // For QueryInterface, whose out-parameter is a `void**`.
    void** receiveVoid() noexcept { return reinterpret_cast<void**>(receive()); }
    void reset() noexcept {
        if (p_) {
            std::exchange(p_, nullptr)->Release();
        }
    }
    // Hands the reference to the caller, who then releases it.
    [[nodiscard]] Interface* detach() noexcept { return std::exchange(p_, nullptr); }

private:
    Interface* p_ = nullptr;
};
