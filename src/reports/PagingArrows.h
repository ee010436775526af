#pragma once

#include <QIcon>

class QPalette;

enum class PagingArrow { First, Previous, Next, Last };

// The picture of a preview paging button, drawn as outlines at whatever size and resolution
// it is shown, in the palette's button text colour: it stays visible in light and dark
// colour schemes alike, and greys out with its button.
QIcon PagingArrowIcon(PagingArrow arrow, const QPalette& palette);
