// The tool as a whole, from its arguments to its exit status: reads the
// files, brands or shows, and writes the output beside its place before
// renaming it there, so that a failure leaves no output and an exe branded
// in place as it was.
#ifndef CORVANE_BRAND_TOOL_H
#define CORVANE_BRAND_TOOL_H

#include <ostream>
#include <string>
#include <vector>

// 0 on success; 1 after one line on err saying what is wrong; 2 for a
// command line it does not understand.
int runBrandTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

#endif
