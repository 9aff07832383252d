// Owns one handle of any kind and undoes it exactly once, when the scope ends or on Reset: a file
// search closed, an interface released, a device context's previous object selected back.
#pragma once

#include <utility>

// `Undo` is called with the handle; a handle equal to Handle{} (null, 0) holds nothing.
template <typename Handle, typename Undo> class Scoped {
  public:
    Scoped(Handle handle, Undo undo) : handle_(handle), undo_(std::move(undo)) {}
    explicit Scoped(Undo undo) : undo_(std::move(undo)) {}
    ~Scoped() { Reset(); }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;

    Handle Get() const { return handle_; }
    // Undoes the handle held, if any, and holds `handle` instead.
    void Reset(Handle handle = Handle{}) {
        if (handle_ != Handle{})
            undo_(handle_);
        handle_ = handle;
    }

  private:
    Handle handle_{};
    Undo undo_;
};
