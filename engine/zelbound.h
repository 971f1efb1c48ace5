#pragma once

// A rectangle on the plate in millimetres: top-left corner and size.
struct CZelBound {
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;

    double Right() const { return x + width; }
    double Bottom() const { return y + height; }
    bool operator==(const CZelBound&) const = default;
};
