// A mesh's list of faces (polygons of three or four corners), with the interface of a vector of
// faces and copy-on-write storage. A mesh keeps one face list per per-corner stream, and these are
// very often equal (X files index texture coordinates and colours by the position faces): copying a
// list only shares its storage, and the copy is made when one of the sharing lists is first
// changed. Copies behave as values throughout: a change to one list is never seen in another.
//
// Rules of use, as with any copy-on-write container:
// - Every non-const member that gives access to the faces (operator[], at, front, back, data,
//   begin, end) counts as a change and first makes the storage the list's own. Loops that only
//   read a list that is not const should read it through std::as_const or cbegin/cend, or they pay
//   for a copy when the storage is shared.
// - A reference, pointer or iterator taken through a non-const member must not be written through
//   once the list has been copied (or assigned to another list) after it was taken: the copy shares
//   the faces the reference points at. Take it again after the copy.
// - Lists that share storage belong to one thread, as the whole model does: the check whether the
//   storage is shared is not made safe against another thread letting go of it at the same time.
#pragma once

#include "model/XFace.h"

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

class XFaceList {
public:
    using value_type = XFace;
    using size_type = std::size_t;
    using difference_type = std::ptrdiff_t;
    using reference = XFace&;
    using const_reference = const XFace&;
    using iterator = std::vector<XFace>::iterator;
    using const_iterator = std::vector<XFace>::const_iterator;

    XFaceList() noexcept = default;
    // Takes over the faces of `faces` (no copy when it is moved in).
    XFaceList(std::vector<XFace> faces) // NOLINT: a vector of faces is a face list
        : faces_(faces.empty() ? nullptr : std::make_shared<Storage>(std::move(faces))) {}
    XFaceList(std::initializer_list<XFace> faces) : XFaceList(std::vector<XFace>(faces)) {}
    explicit XFaceList(size_type count, const XFace& face = XFace())
        : XFaceList(std::vector<XFace>(count, face)) {}
    template <class InputIterator>
    XFaceList(InputIterator first, InputIterator last)
        : XFaceList(std::vector<XFace>(first, last)) {}

    // Copying shares the storage; moving hands it over and leaves the source empty.
    XFaceList(const XFaceList&) noexcept = default;
    XFaceList(XFaceList&& other) noexcept : faces_(std::move(other.faces_)) {}
    XFaceList& operator=(const XFaceList&) noexcept = default;
    XFaceList& operator=(XFaceList&& other) noexcept {
        faces_ = std::move(other.faces_);
        return *this;
    }
    XFaceList& operator=(std::vector<XFace> faces) {
        *this = XFaceList(std::move(faces));
        return *this;
    }
    XFaceList& operator=(std::initializer_list<XFace> faces) {
        *this = XFaceList(faces);
        return *this;
    }

    // Reading: never copies.
    size_type size() const noexcept { return faces_ ? faces_->size() : 0; }
    bool empty() const noexcept { return size() == 0; }
    size_type capacity() const noexcept { return faces_ ? faces_->capacity() : 0; }
    const XFace& operator[](size_type i) const { return (*faces_)[i]; }
    const XFace& at(size_type i) const { return view().at(i); }
    const XFace& front() const { return faces_->front(); }
    const XFace& back() const { return faces_->back(); }
    const XFace* data() const noexcept { return view().data(); }
    const_iterator begin() const noexcept { return view().begin(); }
    const_iterator end() const noexcept { return view().end(); }
    const_iterator cbegin() const noexcept { return begin(); }
    const_iterator cend() const noexcept { return end(); }
    // The faces as a vector, for code that reads them as one.
    const std::vector<XFace>& view() const noexcept { return faces_ ? *faces_ : emptyFaces(); }
    operator const std::vector<XFace>&() const noexcept { return view(); } // NOLINT

    // Whether the two lists share one storage (so that copying one to the other costs nothing).
    bool sharesStorageWith(const XFaceList& other) const noexcept {
        return faces_ && faces_ == other.faces_;
    }

    // Access for writing: the storage becomes the list's own first.
    XFace& operator[](size_type i) { return own()[i]; }
    XFace& at(size_type i) { return own().at(i); }
    XFace& front() { return own().front(); }
    XFace& back() { return own().back(); }
    XFace* data() { return own().data(); }
    iterator begin() { return own().begin(); }
    iterator end() { return own().end(); }
    // The faces as a vector the caller may change, owned by this list alone.
    std::vector<XFace>& edit() { return own(); }

    // Changes. Those that replace every face drop shared storage without copying it.
    void clear() noexcept { faces_.reset(); }
    void assign(size_type count, const XFace& face) { *this = XFaceList(count, face); }
    template <class InputIterator> void assign(InputIterator first, InputIterator last) {
        *this = XFaceList(first, last);
    }
    void reserve(size_type count) { own(count).reserve(count); }
    void resize(size_type count) { own(count).resize(count); }
    void resize(size_type count, const XFace& face) { own(count).resize(count, face); }
    void push_back(const XFace& face) { own(size() + 1).push_back(face); }
    template <class... Args> XFace& emplace_back(Args&&... args) {
        return own(size() + 1).emplace_back(std::forward<Args>(args)...);
    }
    void pop_back() { own().pop_back(); }
    // Positions are taken before the storage is made the list's own, as they may point into the
    // shared storage.
    template <class... Args> iterator insert(const_iterator at, Args&&... args) {
        const auto offset = at - cbegin();
        std::vector<XFace>& faces = own();
        return faces.insert(faces.begin() + offset, std::forward<Args>(args)...);
    }
    iterator erase(const_iterator first, const_iterator last) {
        const auto from = first - cbegin();
        const auto to = last - cbegin();
        std::vector<XFace>& faces = own();
        return faces.erase(faces.begin() + from, faces.begin() + to);
    }
    iterator erase(const_iterator at) { return erase(at, at + 1); }
    void swap(XFaceList& other) noexcept { faces_.swap(other.faces_); }
    friend void swap(XFaceList& a, XFaceList& b) noexcept { a.swap(b); }

    friend bool operator==(const XFaceList& a, const XFaceList& b) {
        return a.faces_ == b.faces_ || a.view() == b.view();
    }
    friend bool operator==(const XFaceList& a, const std::vector<XFace>& b) {
        return a.view() == b;
    }

private:
    using Storage = std::vector<XFace>;

    static const Storage& emptyFaces() noexcept {
        static const Storage empty;
        return empty;
    }

    // The storage, made the list's own: created when there is none, copied when it is shared.
    // `capacity` is room the caller is about to need, so that a copy is not made twice.
    Storage& own(size_type capacity = 0) {
        if (!faces_) {
            faces_ = std::make_shared<Storage>();
        } else if (faces_.use_count() > 1) {
            auto copy = std::make_shared<Storage>();
            copy->reserve(std::max(capacity, faces_->size()));
            copy->assign(faces_->begin(), faces_->end());
            faces_ = std::move(copy);
        }
        return *faces_;
    }

    std::shared_ptr<Storage> faces_; // null when the list is empty and was never written to
};
