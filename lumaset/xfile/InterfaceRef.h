// A counted reference to a file services interface, released when the owner goes: every early
// return of the reader and the writer then lets go of what it holds.
#pragma once

#include <utility>

template <class Interface> class InterfaceRef {
public:
    InterfaceRef() = default;
    InterfaceRef(InterfaceRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    InterfaceRef& operator=(InterfaceRef&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    InterfaceRef(const InterfaceRef&) = delete;
    InterfaceRef& operator=(const InterfaceRef&) = delete;
    ~InterfaceRef() { reset(); }

    Interface* get() const { return p_; }
    // For factory out-parameters: lets go of the current reference first.
    Interface** receive() {
        reset();
        return &p_;
    }
    void reset() {
        if (p_) {
            p_->Release();
            p_ = nullptr;
        }
    }

private:
    Interface* p_ = nullptr;
};
