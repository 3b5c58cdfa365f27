// A test's owner of one seam: gives a field of a seam structure (the engine's EngineSeams, the
// program's ProgramSeams) another value for the scope, and its previous one back at the end.
#pragma once

template <class T> class SeamSwap {
public:
    SeamSwap(T& seam, T replacement) : seam_(seam), previous_(seam) { seam_ = replacement; }
    ~SeamSwap() { seam_ = previous_; }
    SeamSwap(const SeamSwap&) = delete;
    SeamSwap& operator=(const SeamSwap&) = delete;

    // The value the field had before.
    const T& Previous() const { return previous_; }

private:
    T& seam_;
    T previous_;
};
