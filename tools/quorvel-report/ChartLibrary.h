#pragma once

// uPlot's script and style sheet, inlined at build time from its npm package.
extern const char* const kChartScript;
extern const char* const kChartCss;
