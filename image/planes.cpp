#include "rgb.h"

unsigned char gdatar[PLANE_BYTES];
unsigned char gdatag[PLANE_BYTES];
unsigned char gdatab[PLANE_BYTES];
