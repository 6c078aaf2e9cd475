// The titles of the choices that both menus offer.
#pragma once

#include "app/face_style.h"
#include "app/skin_choice.h"
#include "docexport/pdf_types.h"

#include <QString>

namespace tw {

QString menuTitle(SkinChoice skin);   // "Automatic (from firmware)", "16C", "15C", "12C"
QString menuTitle(FaceStyle style);   // "Photo", "Drawn"
QString menuTitle(PDFPaper paper);    // "A4", "US Letter"

} // namespace tw
