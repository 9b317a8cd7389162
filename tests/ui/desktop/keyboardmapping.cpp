#include "keyboardmapping.h"

#include <X11/Xlib.h>

#include <memory>
#include <set>

namespace {

/// The keysym of a character: Latin-1 ones are their own code, the others Unicode keysyms.
KeySym keysymOf(char32_t character)
{
    return character < 0x100 ? KeySym(character) : KeySym(0x01000000 | character);
}

} // namespace

QStringList bindKeysFor(const QString &text)
{
    std::unique_ptr<Display, int (*)(Display *)> display(XOpenDisplay(nullptr), XCloseDisplay);
    if (!display)
        return {};
    int minKeycode = 0;
    int maxKeycode = 0;
    XDisplayKeycodes(display.get(), &minKeycode, &maxKeycode);
    int perKeycode = 0;
    std::unique_ptr<KeySym, int (*)(void *)> map(
        XGetKeyboardMapping(display.get(), KeyCode(minKeycode), maxKeycode - minKeycode + 1, &perKeycode),
        XFree);
    if (!map)
        return {};
    const auto unused = [&](int keycode) {
        for (int level = 0; level < perKeycode; ++level)
            if (map.get()[(keycode - minKeycode) * perKeycode + level] != NoSymbol)
                return false;
        return true;
    };

    QStringList names;
    std::set<KeySym> bound;
    int keycode = maxKeycode;
    for (const char32_t character : text.toUcs4()) {
        const KeySym keysym = keysymOf(character);
        names.append(QStringLiteral("U%1").arg(uint(character), 4, 16, QLatin1Char('0')).toUpper());
        if (bound.count(keysym) || XKeysymToKeycode(display.get(), keysym) != 0)
            continue;
        while (keycode >= minKeycode && !unused(keycode))
            --keycode;
        if (keycode < minKeycode)
            return {};
        KeySym both[2] = {keysym, keysym}; // with and without Shift
        XChangeKeyboardMapping(display.get(), keycode, 2, both, 1);
        bound.insert(keysym);
        --keycode;
    }
    XSync(display.get(), False);
    return names;
}
