#pragma once

#include <taglib/tpropertymap.h>

#include "filetools/rich_tag.h"

namespace mv {

// The RichTag fields of a TagLib property map (the first text of each key),
// so the reader and the writer see a tag alike.
RichTag RichTagFromProperties(const TagLib::PropertyMap& map);

}  // namespace mv
