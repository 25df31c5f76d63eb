// The annotation archive of the demo captures, built with the annotation
// library from where the scene's windows are: chapters (named lists) with
// boxes, a magnifying box over the editor where text is typed, a brush stroke
// around the file list, arrows of each style, texts in several frame shapes,
// and pause marks of modes 0 and 2.
#pragma once

#include <vector>

#include "platform/base/WinTypes.h"

class CDemoScene;
class CAnnotateData;

// Fills the set with the demo's lists (the set is emptied first).
void BuildDemoAnnotations(const CDemoScene& scene, CAnnotateData& set);
// The archive bytes of BuildDemoAnnotations; empty when it cannot be built.
// With a still span (the capture holds still for stillLength ms from
// stillFrom), the lists from stillFrom on start that much later, with the
// scene's content they belong to.
std::vector<BYTE> DemoAnnotationArchive(const CDemoScene& scene, DWORD stillFrom = 0, DWORD stillLength = 0);
