// quorvalent-render: the animation rendered offline into image files, a raw
// video stream or timing figures. See render_run.h and --help.

#include <cstdio>

#include "hosts/headless/render_run.h"

int main(int argc, char** argv) { return qv::renderMain(argc, argv, stdout, stderr); }
