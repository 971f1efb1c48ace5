#pragma once

class CPDFServer;
class CZelColorPresets;
class CZelPreference;
class OperatorInterface;
class ProgressSink;

// What the running program offers a plate: the shop's settings and tables,
// owned by the application for the whole run, and the operator. Any pointer
// may be null where a caller has no such thing (a test, a tool).
struct ShopContext {
    CZelPreference* preference = nullptr;
    CZelColorPresets* colors = nullptr;
    OperatorInterface* op = nullptr;
    ProgressSink* progress = nullptr;
    CPDFServer* pdf = nullptr; // the composition library, for previews and output
};
