#include "program/Session.h"

#include "base/Files.h"
#include "base/Folders.h"
#include "blender/ImageBlender.h"
#include "colour/SwatchBookJs.h"
#include "engine/CookieStore.h"

namespace hw {

Session::Session(Screen& screen)
    : m_screen(screen),
      m_states(screen),
      m_blender(m_state, screen),
      m_book(m_state, m_states, screen),
      m_schemes(m_state, m_states, screen, m_blender),
      m_pages(m_state, m_states, screen, m_schemes) {}

void Session::start() { m_states.apply(Situation::StartUp, m_state); }

bool Session::FormCloseQuery() {
    if (!m_schemes.closeQuery()) return false;
    if (!m_book.mayClose()) return false;
    cleanUp();
    return true;
}

void Session::cleanUp() {
    if (m_schemes.hasChangeRecord()) CookieStore::purgeLocalCookies();
    for (const PageEntry& page : m_state.pages) {
        removeFile(page.workingCopy);
        sweepFiles(folderOf(page.workingCopy), "fwp*.TMP");
    }
    m_schemes.cleanUp();
    removeFile(swatchBookJsPath());
    sweepRecolouredCopies();
}

} // namespace hw
