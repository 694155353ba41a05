#include "model/XScene.h"

#include <utility>
#include <vector>

namespace {

// The frame's own data, without its children.
void copyOwnData(const XFrame& from, XFrame& to) {
    to.name = from.name;
    to.transform = from.transform;
    to.mesh = from.mesh;
}

} // namespace

XFrame::XFrame(const XFrame& other) {
    copyOwnData(other, *this);
    // Level by level from a work list: each pair is a frame whose children are still to be copied.
    std::vector<std::pair<const XFrame*, XFrame*>> pending{{&other, this}};
    while (!pending.empty()) {
        const auto [from, to] = pending.back();
        pending.pop_back();
        for (const XFrame& child : from->children) {
            XFrame& copy = to->children.emplace_back();
            copyOwnData(child, copy);
            if (!child.children.empty()) pending.emplace_back(&child, &copy);
        }
    }
}

XFrame& XFrame::operator=(const XFrame& other) {
    if (this != &other) {
        XFrame copy(other); // first: `other` may live inside this frame's subtree
        *this = std::move(copy);
    }
    return *this;
}

XFrame::~XFrame() {
    // Each frame taken off the list hands its children to the list first, so no destructor ever
    // meets a frame with children and the call stack stays flat however deep the tree.
    std::list<XFrame> pending;
    pending.splice(pending.end(), children);
    while (!pending.empty()) {
        pending.splice(pending.end(), pending.front().children);
        pending.pop_front();
    }
}

bool operator==(const XFrame& a, const XFrame& b) {
    std::vector<std::pair<const XFrame*, const XFrame*>> pending{{&a, &b}};
    while (!pending.empty()) {
        const auto [x, y] = pending.back();
        pending.pop_back();
        if (x->name != y->name || !(x->transform == y->transform) || !(x->mesh == y->mesh) ||
            x->children.size() != y->children.size())
            return false;
        auto other = y->children.begin();
        for (const XFrame& child : x->children)
            pending.emplace_back(&child, &*other++);
    }
    return true;
}
