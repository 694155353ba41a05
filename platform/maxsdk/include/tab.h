// Tab<T>: the SDK's growable array of plain values. Elements are copied bit-wise, so T must be
// trivially copyable (numbers, pointers, Point3, Face, ...). New elements made by SetCount are
// zero bytes. Indices are ints; passing one out of range is a caller bug (asserted).
#pragma once

#include <cassert>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

template <class T> class Tab {
    static_assert(std::is_trivially_copyable_v<T>, "Tab copies its elements bit-wise");

public:
    typedef int (*CompareFnc)(const void* a, const void* b);

    Tab() = default;
    Tab(const Tab& other) { copyFrom(other); }
    Tab& operator=(const Tab& other) {
        if (this != &other) {
            ZeroCount();
            copyFrom(other);
        }
        return *this;
    }
    ~Tab() { std::free(items); }

    int Count() const { return count; }
    void ZeroCount() { count = 0; }

    // Sets the number of elements; new ones are zero bytes. With `resize` FALSE the storage is
    // only grown, never shrunk.
    void SetCount(int n, int resize = 1) {
        assert(n >= 0);
        if (n > capacity || (resize && n < capacity))
            reallocate(n > count || resize ? n : capacity);
        if (n > count)
            std::memset(static_cast<void*>(items + count), 0, sizeof(T) * size_t(n - count));
        count = n;
    }

    // Appends `num` elements copied from `el` (which may point into this table). Reserves room for
    // `allocExtra` more on growth. Returns the index of the first new element.
    int Append(int num, const T* el, int allocExtra = 0) {
        assert(num >= 0 && allocExtra >= 0);
        return Insert(count, num, el, allocExtra);
    }

    // Inserts `num` elements copied from `el` before index `at` (0..Count()). Returns `at`.
    int Insert(int at, int num, const T* el, int allocExtra = 0) {
        assert(at >= 0 && at <= count && num >= 0);
        if (num == 0) return at;
        T* source = const_cast<T*>(el);
        T* ownCopy = nullptr;
        if (el >= items && el < items + capacity) { // the source lives in our own storage
            ownCopy = static_cast<T*>(std::malloc(sizeof(T) * size_t(num)));
            if (!ownCopy) throw std::bad_alloc();
            std::memcpy(static_cast<void*>(ownCopy), el, sizeof(T) * size_t(num));
            source = ownCopy;
        }
        if (count + num > capacity) reallocate(count + num + allocExtra);
        std::memmove(static_cast<void*>(items + at + num), items + at,
                     sizeof(T) * size_t(count - at));
        std::memcpy(static_cast<void*>(items + at), source, sizeof(T) * size_t(num));
        count += num;
        std::free(ownCopy);
        return at;
    }

    // Removes `num` elements from `start`, clipped to the table. Returns the count left.
    int Delete(int start, int num) {
        assert(start >= 0 && num >= 0);
        if (start >= count) return count;
        if (num > count - start) num = count - start;
        std::memmove(static_cast<void*>(items + start), items + start + num,
                     sizeof(T) * size_t(count - start - num));
        count -= num;
        return count;
    }

    // Sets the storage to room for `n` elements (never below Count()).
    void Resize(int n) {
        assert(n >= 0);
        reallocate(n < count ? count : n);
    }
    void Shrink() { reallocate(count); }

    void Sort(CompareFnc compare) {
        if (count > 1) std::qsort(items, size_t(count), sizeof(T), compare);
    }

    T* Addr(int i) const {
        assert(i >= 0 && i <= count);
        return items + i;
    }
    T& operator[](int i) const {
        assert(i >= 0 && i < count);
        return items[i];
    }

private:
    void copyFrom(const Tab& other) {
        if (other.count > 0) Append(other.count, other.items);
    }
    void reallocate(int n) {
        if (n == capacity) return;
        if (n == 0) {
            std::free(items);
            items = nullptr;
            capacity = 0;
            return;
        }
        void* grown = std::realloc(static_cast<void*>(items), sizeof(T) * size_t(n));
        if (!grown) throw std::bad_alloc();
        items = static_cast<T*>(grown);
        capacity = n;
    }

    T* items = nullptr;
    int count = 0;
    int capacity = 0;
};
