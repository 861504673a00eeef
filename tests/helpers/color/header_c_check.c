/* The public header compiled as C: a client in C sees the same record. */
#include "kestrix_helper_color.h"

#include <stddef.h>

size_t kh_color_test_c_context_size(void) { return sizeof(kh_color_context); }
size_t kh_color_test_c_alpha_offset(void) { return offsetof(kh_color_context, alphaValue); }
