#pragma once

// The root window of an X server read through shared memory (MIT-SHM), for
// benchmarks that watch the screen while the program they time draws. A look
// at a 1920 x 1080 screen this way takes about a millisecond; XGetImage
// copies every pixel through the socket (10-15 ms) and holds the single-
// threaded server meanwhile, which delays the timed program's own drawing and
// adds both to every figure measured through the screen. Needs libXext.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <array>
#include <cstdint>

namespace xvfb {

class TSharedScreen {
public:
    TSharedScreen(Display* display, int width, int height) : display_(display)
    {
        if (!display_ || !XShmQueryExtension(display_))
            return;
        const int screen = DefaultScreen(display_);
        image_ = XShmCreateImage(display_, DefaultVisual(display_, screen),
                                 static_cast<unsigned>(DefaultDepth(display_, screen)), ZPixmap, nullptr, &segment_,
                                 static_cast<unsigned>(width), static_cast<unsigned>(height));
        if (!image_)
            return;
        segment_.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(image_->bytes_per_line) * image_->height,
                                IPC_CREAT | 0600);
        if (segment_.shmid < 0)
            return;
        void* memory = shmat(segment_.shmid, nullptr, 0);
        // Marked for removal at once: it goes when both sides let go of it.
        shmctl(segment_.shmid, IPC_RMID, nullptr);
        if (memory == reinterpret_cast<void*>(-1))
            return;
        segment_.shmaddr = image_->data = static_cast<char*>(memory);
        segment_.readOnly = False;
        attached_ = XShmAttach(display_, &segment_) != 0;
        XSync(display_, False);
    }
    ~TSharedScreen()
    {
        if (attached_)
            XShmDetach(display_, &segment_);
        if (segment_.shmaddr)
            shmdt(segment_.shmaddr);
        if (image_) {
            image_->data = nullptr; // the segment, not Xlib's memory
            XDestroyImage(image_);
        }
    }
    TSharedScreen(const TSharedScreen&) = delete;
    TSharedScreen& operator=(const TSharedScreen&) = delete;

    bool Available() const { return attached_; }

    // Takes the screen's current pixels; false when it could not.
    bool Read() { return attached_ && XShmGetImage(display_, DefaultRootWindow(display_), image_, 0, 0, AllPlanes); }

    // Red, green, blue of a pixel of the last Read.
    std::array<int, 3> At(int x, int y) const
    {
        const unsigned long pixel = XGetPixel(image_, x, y);
        return {static_cast<int>((pixel & image_->red_mask) >> Shift(image_->red_mask)),
                static_cast<int>((pixel & image_->green_mask) >> Shift(image_->green_mask)),
                static_cast<int>((pixel & image_->blue_mask) >> Shift(image_->blue_mask))};
    }

private:
    static int Shift(unsigned long mask)
    {
        int shift = 0;
        while (mask != 0 && (mask & 1) == 0) {
            mask >>= 1;
            ++shift;
        }
        return shift;
    }

    Display* display_ = nullptr;
    XImage* image_ = nullptr;
    XShmSegmentInfo segment_{};
    bool attached_ = false;
};

} // namespace xvfb
