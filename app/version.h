// A bare macro, so that the resource compiler can read the same version as the code.
#define ASSISTANT_VERSION "V1.0"
