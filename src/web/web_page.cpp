// The page bridges: each hands its arguments to a function the page's script defines on Module.
#include "web/web_page.h"

#include <emscripten/emscripten.h>

#include "web/picture.h"

// The picture's ImageData is a view of the module's memory, made once: the
// memory never grows, so the view stays valid and a frame allocates nothing.
EM_JS(void, PageShowPicture, (const uint8_t* rgba, int32_t size), {
    var shown = Module.tesseraPicture;
    if (!shown || shown.address !== rgba) {
        shown = Module.tesseraPicture = {
            address: rgba,
            image: new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, size), 640, 480)
        };
    }
    Module.tesseraShowPicture(shown.image);
});
EM_JS(void, PageShowDialog, (const char* caption, const char* text),
      { Module.tesseraShowDialog(UTF8ToString(caption), UTF8ToString(text)); });
EM_JS(void, PageShowGameEnded, (), { Module.tesseraShowGameEnded(); });
EM_JS(void, PageAnnounceReady, (int test), {
    Module.tesseraReady = true;
    if (Module.tesseraStarted) Module.tesseraStarted(!!test);
});
EM_JS(void, PageShowSet, (const char* label, const char* pack, const char* level, const char* note), {
    Module.tesseraShowSet(UTF8ToString(label), UTF8ToString(pack), UTF8ToString(level), UTF8ToString(note));
});
EM_JS(void, PageMakePack, (const char* pack), { Module.tesseraMakePack(UTF8ToString(pack)); });

void ShowPicture(const uint8_t* rgba)
{
    PageShowPicture(rgba, pictureBytes);
}

void ShowDialog(const char* caption, const char* text)
{
    PageShowDialog(caption, text);
}

void ShowGameEnded()
{
    PageShowGameEnded();
}

void AnnounceReady(bool test)
{
    PageAnnounceReady(test ? 1 : 0);
}

void ShowSet(const char* label, const char* pack, const char* level, const char* note)
{
    PageShowSet(label, pack, level, note);
}

void MakePackInWorker(const char* pack)
{
    PageMakePack(pack);
}
