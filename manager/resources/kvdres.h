// Interface of the resource library (KVD_ResDll). The program loads the library by name
// at start-up and resolves these functions; every user-visible text, menu, accelerator,
// tool bar and image is found through them by numeric id. The library has no Qt
// dependency so that it can be replaced by a translated one without rebuilding the program.
#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define KVDRES_API __declspec(dllexport)
#else
#define KVDRES_API __attribute__((visibility("default")))
#endif

/* Version of this interface; the program refuses a library of another version. */
#define KVDRES_INTERFACE_VERSION 1

/* One line of a menu resource, in document order.
   depth 0: a top-level popup (id 0, text is its title).
   depth >= 1: an entry inside the popup opened by the nearest preceding line of depth-1;
   a line with id 0 and a text opens a nested popup, id 0 and text NULL is a separator.
   Texts may carry "&" mnemonics and "\t" followed by the shortcut shown. */
typedef struct KvdMenuLine {
    int depth;
    unsigned id;
    const char* text;
} KvdMenuLine;

/* One accelerator: a key sequence in portable text form ("Ctrl+N", "Shift+F6",
   "Alt+Backspace") and the command id it sends. */
typedef struct KvdAccel {
    const char* keys;
    unsigned command;
} KvdAccel;

/* One control text of a dialog template: control id (0 for the caption) and its text. */
typedef struct KvdDialogText {
    unsigned control;
    const char* text;
} KvdDialogText;

KVDRES_API int kvdres_interface_version(void);

/* UTF-8 text of a string id, or NULL when the table has no such id. */
KVDRES_API const char* kvdres_string(unsigned id);

/* Lines of menu `id`; returns the count and sets *lines, or -1 when there is no such menu. */
KVDRES_API int kvdres_menu(unsigned id, const KvdMenuLine** lines);

/* Accelerator table `id`; count or -1. */
KVDRES_API int kvdres_accelerators(unsigned id, const KvdAccel** accels);

/* Tool bar `id`: button command ids in order, 0 for a separator; count or -1. */
KVDRES_API int kvdres_toolbar(unsigned id, const unsigned** commands);

/* Control texts of dialog template `id`; count or -1. */
KVDRES_API int kvdres_dialog(unsigned id, const KvdDialogText** texts);

/* Image `id` as PNG bytes; NULL when there is no such image. */
KVDRES_API const unsigned char* kvdres_image(unsigned id, size_t* size);

#ifdef __cplusplus
}
#endif
