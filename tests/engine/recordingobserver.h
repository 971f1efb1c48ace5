#pragma once

#include "engine/tesseldoc.h"

#include <vector>

// Watches a plate and keeps every change it reports.
struct RecordingObserver : PlateObserver {
    explicit RecordingObserver(CTesselDoc& watched) : doc(watched) { doc.AddObserver(this); }
    ~RecordingObserver() override { doc.RemoveObserver(this); }
    void PlateChanged(const PlateChange& change) override { changes.push_back(change); }

    // The rectangles of the changes reported since the last take, in order.
    std::vector<CZelBound> TakeRects() {
        std::vector<CZelBound> rects;
        for (const PlateChange& change : changes)
            rects.insert(rects.end(), change.rects.begin(), change.rects.end());
        changes.clear();
        return rects;
    }

    CTesselDoc& doc;
    std::vector<PlateChange> changes;
};
