// The picture decoder and rescaler, compiled into the module from the same
// headers Debian's library is built from: WebAssembly has no prebuilt one.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb_image.h>
#include <stb_image_resize.h>
