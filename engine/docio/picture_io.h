// Pictures in documents: the class-data record 2316 of picture objects, and copying a
// picture's image from one object to another through the picture records.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"

struct TransferContext;

constexpr uint32_t kPictureDataRecordBytes = 16;
// Stored settings versions below this one have no pictures.
constexpr int32_t kFirstSettingsWithPictures = 3;

// The four size fields: from a record the low 16 bits of each stored i32; to a record
// each i16 sign-extended; a stored block copied into a record goes unchanged, and is left
// out (10) of a record of settings before pictures existed.
ResultCode PictureSizeConverter(TransferContext* context, void* objectBlock, uint8_t* recordBlock,
                                int32_t recordLength);
