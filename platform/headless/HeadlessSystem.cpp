#include "platform/headless/HeadlessControl.h"

namespace {

HeadlessSystem& theSystem() {
    static HeadlessSystem system{};
    return system;
}

} // namespace

HeadlessSystem& headlessSystem() {
    return theSystem();
}

void resetHeadlessSystem() {
    theSystem() = HeadlessSystem{};
}
