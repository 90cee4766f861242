#pragma once

#include <QPixmap>

namespace warenkai {

inline constexpr int kMakerPictureWidth = 151;
inline constexpr int kMakerPictureHeight = 147;

// The maker's emblem for the About box: crates on a quay by the water, drawn at run time.
QPixmap DrawMakerPicture();

}  // namespace warenkai
