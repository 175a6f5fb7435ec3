// Resource ids of the controls' test program, beside Korvex's own (resources/resource.h).
#pragma once

// A 6 x 4 bitmap resource (RT_BITMAP): left half blue-ish, right half red-ish.
#define IDB_TEST_PICTURE 9101
// Resources of type "PNG" that are not pictures: a few text bytes.
#define IDP_TEST_NOT_A_PICTURE 9102
// An id that no resource has.
#define IDP_TEST_MISSING 9199
