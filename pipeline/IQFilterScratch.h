#pragma once
// Whole-picture working planes that the detail filters keep from pass to
// pass. A 24 MP picture would otherwise map some hundred megabytes of fresh
// memory for every pass, and the first write to every fresh 4 KB page costs
// a fault; kept here, a plane is mapped once per picture. Large planes are
// asked for in 2 MB pages, which also cuts the faults of the first pass.
//
// Slots are numbered buffers: a filter uses slots 0, 1, 2... for the length
// of one call, so filters that run one after another share the memory. Not
// thread-safe; the tone engine's lock serialises its users.
#include <opencv2/core.hpp>

#include <cstddef>
#include <vector>

class IQFilterScratch {
public:
    // A continuous rows x cols matrix of the type over the slot's memory. It
    // stays valid until the slot is asked for again with a larger size or
    // released; its contents are whatever the last user left.
    cv::Mat plane(int slot, int rows, int cols, int type);
    // Frees every slot.
    void release();
    size_t bytesHeld() const;

private:
    std::vector<cv::Mat> m_slots;
};

// A whole-picture working plane: the scratch's slot when there is a scratch,
// else fresh memory.
cv::Mat IQWorkPlane(IQFilterScratch *scratch, int slot, cv::Size size, int type);

// Asks the kernel to back the whole 2 MB pages inside [data, data + bytes)
// with huge pages. Takes effect on pages not written yet; a no-op where the
// system has no such pages.
void IQAdviseHugePages(void *data, size_t bytes);

// Writes every page of [data, data + bytes) once, in parallel bands, so that
// later writes find the memory mapped.
void IQTouchPages(void *data, size_t bytes);
