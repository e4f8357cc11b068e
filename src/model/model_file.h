#pragma once
// The model file, apart from GL: its parser, which gives the file's records (model_records.h).
// The file, little-endian: a 31-byte header, the texture count Nt and Nt 40-byte texture names,
// then the node records, each reached through the continuation check (peekContinuation). A node
// record: name (40), the first node only a 4-byte extra word, parent name (40), the first node only
// ten 4-byte extra values, Nn and Nn model texture indices, the 88-byte transform, Nv and Nv
// vertices, Nc and Nc texture coordinates, Nf and Nf faces, then a key-frame block when the
// continuation check finds a non-zero word there: Nk and Nk key frames. A file may end right after
// a node's faces: that node has no key frames and is the last.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "io/byte_cursor.h"
#include "io/read_result.h"
#include "model/model_records.h"

// What the continuation check finds at the cursor.
enum class Continuation {
    end,        // two zero words, both consumed
    afterZero,  // one zero word, consumed; a non-zero word is next
    data,       // a non-zero word is next; nothing consumed
    cutShort,   // the data ends before the check could decide
};
Continuation peekContinuation(ByteCursor& file);

// The texts of the model reader, each a line on standard error about the model file. A node's
// text is led by "model node <n>: ".
inline constexpr FailureText kModelCannotOpen{Failure::cannotOpen, Channel::standardError,
                                              "Cannot open the model file"};
inline constexpr FailureText kModelHeaderCutShort{Failure::tooShort, Channel::standardError,
                                                  "model header cut short"};
inline constexpr FailureText kModelNegativeTextureCount{Failure::outOfRange, Channel::standardError,
                                                        "negative model texture count %s"};
inline constexpr FailureText kModelTextureListCutShort{Failure::tooShort, Channel::standardError,
                                                       "model texture list cut short"};
inline constexpr FailureText kModelNodeListCutShort{Failure::tooShort, Channel::standardError,
                                                    "model file ends inside its node list"};
inline constexpr FailureText kModelWithoutNodes{Failure::tooShort, Channel::standardError,
                                                "model file has no nodes"};
inline constexpr FailureText kNodeCutShort{Failure::tooShort, Channel::standardError, "cut short"};
inline constexpr FailureText kNodeNegativeCount{Failure::outOfRange, Channel::standardError,
                                                "negative count %s"};
inline constexpr FailureText kNodeTextureIndexOutOfRange{
    Failure::outOfRange, Channel::standardError, "texture index %s out of range"};
inline constexpr FailureText kNodeFacesSkipped{Failure::outOfRange, Channel::standardError,
                                               "%s of %s faces skipped, indices out of range"};

// What the parser makes of a model file: its records, and what it left out of them.
struct ParsedModelFile {
    ModelFile records;
    // One line each: faces whose indices lie outside their node, and the damaged record or cut
    // that ended the node list early.
    std::vector<ReadResult> skipped;
};

// Parses a whole model file. A failure when its header or texture list is damaged, or when it
// holds no whole node; every count is checked against what is left of the file before anything
// is allocated, a node's texture indices against the count of texture names, and a face whose
// vertex or texture-coordinate indices lie outside its node's arrays is left out: the records
// hold no index that points outside its array.
Result<ParsedModelFile> parseModelFile(std::span<const std::uint8_t> bytes);
