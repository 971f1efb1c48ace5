#pragma once

#include "markup/result.h"

#include <gtest/gtest.h>

// Passes on a result that succeeded; fails with its reason otherwise, so a
// failing assertion says why.
template <typename T>::testing::AssertionResult Succeeded(const Result<T>& result) {
    if (result.ok())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << result.error().toStdString();
}
