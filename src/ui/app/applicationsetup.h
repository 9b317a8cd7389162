#pragma once

/// What the windowed program sets up once its QApplication exists: its names, Qt's Chinese
/// translations and the fonts. The desktop tests run the same set-up, so that they see the
/// windows exactly as a teacher does.
namespace ApplicationSetup {

/// Names the application, installs the translations, the CJK font substitutes, the
/// interface font and the interfaces for assistive technology.
void apply();

} // namespace ApplicationSetup
