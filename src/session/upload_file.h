#pragma once

#include "link/replacing_file.h"

namespace tw {

// An upload's target: an upload that stops early leaves the existing file as it was.
using UploadFile = ReplacingFile;

}  // namespace tw
