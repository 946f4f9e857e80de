#include "widgets/ImageButtonLayout.h"

ImageButtonLayout ImageButtonLayout::calcular(TLayout align, int w, int h, int iw, int ih, int tw, int th) {
    const int t = (h - ih - th - 4) / 2;
    switch (align) {
    case anTop:
        return {{(w - iw) / 2, t + th + 4}, {(w - tw) / 2, t}};
    case anLeft:
        return {{w - iw - 4, (h - ih) / 2}, {w - iw - tw - 4, (h - th) / 2}};
    case anRight:
        return {{4, (h - ih) / 2}, {iw + 8, (h - th) / 2}};
    case anBottom:
        break;
    }
    return {{(w - iw) / 2, t}, {(w - tw) / 2, t + ih + 4}};
}
