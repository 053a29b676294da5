// A short busy wait for a thread that expects another to finish its part soon: cheaper than
// going to sleep and being woken when the wait is a few microseconds, and bounded by a count
// of checks (not by the clock, which a run may see stand still), so that a longer wait still
// ends asleep.
#pragma once

namespace evstat {

// A hint to the processor that this thread spins, where the hint exists.
inline void spin_pause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

// Checks `ready` until it holds, `checks` times at most, with a pause between checks (some
// 10 ns on a current x86 processor, a few times that on some); whether it holds.
template <typename Ready>
bool spin_until(int checks, Ready ready) {
    for (int i = 0; i < checks; ++i) {
        if (ready()) return true;
        spin_pause();
    }
    return ready();
}

}  // namespace evstat
