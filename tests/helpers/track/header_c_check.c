/* The public header must compile as plain C with the documented record layout. */
#include "kestrix_helper_track.h"

#include <stddef.h>

_Static_assert(sizeof(kh_track_event) == 40, "event record is 40 bytes");
_Static_assert(sizeof(kh_track_particle) == 56, "particle record is 56 bytes");
_Static_assert(offsetof(kh_track_event, x) == 8, "x at 8");
_Static_assert(offsetof(kh_track_particle, id) == 40, "identifier at 40");
_Static_assert(offsetof(kh_track_particle, length) == 48, "length at 48");

int khTrackHeaderCompilesAsC(void)
{
    kh_track_context* ctx = NULL;
    int32_t count = 0;
    return kh_track_uninit(&ctx) + count;
}
