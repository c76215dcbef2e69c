// The one text layer of the program. Inside the core every page text, keyword,
// mark and file content is a GBK byte string; this layer converts at the edges
// (code_page.h) and offers the byte helpers the extractors, the run and the
// file formats share: character-safe search (text_search.h), replace tables
// (replace_table.h) and lines (text_lines.h).
#pragma once

#include "base/code_page.h"
#include "base/replace_table.h"
#include "base/text_lines.h"
#include "base/text_search.h"
