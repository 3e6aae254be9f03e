#pragma once

// The page's template, style sheet and script, and uPlot's script and style sheet from
// its npm package, inlined at build time.
extern const char* const kPageTemplate;
extern const char* const kPageCss;
extern const char* const kPageScript;
extern const char* const kChartScript;
extern const char* const kChartCss;
