#pragma once
// Small helpers for the colour-library tests: a context that is released at scope end, the
// last-error text, and regions.

#include "kestrix_helper_color.h"

#include <cstdint>
#include <string>

struct ContextHolder {
    kh_color_context* ctx = nullptr;
    ContextHolder() { kh_color_context_create(&ctx); }
    ~ContextHolder() { kh_color_context_release(&ctx); }
    kh_color_context* operator->() const { return ctx; }
    operator kh_color_context*() const { return ctx; }
};

inline std::string lastError()
{
    char text[4096];
    uint32_t length = sizeof text;
    kh_color_get_last_error_message(text, &length);
    return text;
}

inline rgn_type region(uint16_t x, uint16_t y, uint16_t width, uint16_t height)
{
    return rgn_type{x, uint16_t(x + width - 1), 1, y, uint16_t(y + height - 1), 1};
}
