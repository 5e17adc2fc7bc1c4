// Links the packed frames (one binary resource file made by rcc) into the program and registers
// them before main(). Embedding the file directly keeps the build from compiling 80 MB of C++.
#include <QResource>

#ifndef PURRLOX_FRAMES_RCC
#error "PURRLOX_FRAMES_RCC must name the packed frames file"
#endif

asm(".section .rodata\n"
    ".global purrlox_frames_rcc\n"
    ".balign 16\n"
    "purrlox_frames_rcc:\n"
    ".incbin \"" PURRLOX_FRAMES_RCC "\"\n"
    ".previous\n");

extern "C" const uchar purrlox_frames_rcc[];

namespace {

struct Registration {
    Registration() { QResource::registerResource(purrlox_frames_rcc); }
    ~Registration() { QResource::unregisterResource(purrlox_frames_rcc); }
};

const Registration registration;

} // namespace
