// Opening a font file's face at a pixel size with FreeType.
#ifndef TAVO_POSIX_GDI_FACE_FREETYPE_H
#define TAVO_POSIX_GDI_FACE_FREETYPE_H

#include "platform/posix/gdi_faces.h"

namespace posix {

// A face in a font file, as fontconfig describes it.
struct FaceFile {
    std::string path;
    int index = 0;          // in a collection
    int weight = FW_NORMAL; // on the 100 to 900 scale of LOGFONT
    std::string family;
};

// The face with a cell of cell pixels; bold is drawn by thickening the
// outlines when weight asks for it and the face is lighter. Null when the
// file can't be read or isn't a scalable face.
std::shared_ptr<SizedFace> openFace(const FaceFile &file, int cell, int weight, bool italic);

} // namespace posix

#endif
