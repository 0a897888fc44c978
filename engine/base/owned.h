// One owner for every resource that is opened and must be given back: a file
// of the file layer, a Win32 handle, a GDI object. The owner gives it back
// when it goes, so no way out of a function can leak one. `Kind` says what an
// empty owner holds and how the resource is given back:
//
//   struct Kind { using Type = ...; static Type none(); static void giveBack(Type); };
#pragma once

template <typename Kind>
class Owned {
public:
    using Type = typename Kind::Type;

    Owned() = default;
    explicit Owned(Type value) : value_(value) {}
    Owned(Owned&& other) noexcept : value_(other.value_) { other.value_ = Kind::none(); }
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            reset();
            value_ = other.value_;
            other.value_ = Kind::none();
        }
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { reset(); }

    Type get() const { return value_; }
    explicit operator bool() const { return value_ != Kind::none(); }
    // Gives the resource back now; the owner is then empty.
    void reset() {
        if (*this) Kind::giveBack(value_);
        value_ = Kind::none();
    }

private:
    Type value_ = Kind::none();
};
