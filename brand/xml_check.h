// Whether a text is well-formed XML, as far as a manifest needs: one root
// element, elements closed in order, attributes quoted and not repeated,
// references, comments, CDATA sections and processing instructions. (No
// document type declaration: a manifest has none.)
#ifndef CORVANE_BRAND_XML_CHECK_H
#define CORVANE_BRAND_XML_CHECK_H

#include <string>

// "" when well-formed, else what is wrong and on which line.
std::string xmlFault(const std::string& text);

#endif
