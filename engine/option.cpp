// The option menu: one line of settings that a digit changes, shown and
// spoken in place of the composition, in any mode.
#include "engine/engine.h"
#include "engine/chars.h"
#include "frame/compstr.h"
#include "frame/globdata.h"
#include "frame/settings.h"
#include "speech/speech.h"

#define SWITCHES 6
#define FONT_STEP_SMALL 6
#define FONT_STEP_LARGE 12
#define FONT_STEP_EDGE 36
#define FONT_MENU_MAX 96

// The six switches in the order of the menu's entries 1 to 6.
static DWORD *Switch(int n) {
    DWORD *switches[SWITCHES] = {&globData.dotKeyboard,        &globData.speech,
                                 &globData.verboseComposition, &globData.brailleDisplay,
                                 &globData.brailleExplanation, &globData.reverseVideo};
    return switches[n];
}

// The menu text: each "%s" says what its digit would do now.
static LPTSTR FormatMenu(void) {
    int onLength = lstrlen(globData.onText), offLength = lstrlen(globData.offText);
    int word = onLength > offLength ? onLength : offLength;
    int room = lstrlen(globData.optionMenu) + 10 * word + 1;
    LPTSTR text = (LPTSTR)GlobalAlloc(GMEM_FIXED, room * sizeof(TCHAR));
    if (text == NULL)
        return NULL;
    int out = 0, slot = 0;
    for (LPCTSTR in = globData.optionMenu; *in != 0 && out < room - 1;) {
        if (in[0] == '%' && in[1] == 's' && slot < SWITCHES) {
            LPCTSTR action = *Switch(slot++) ? globData.offText : globData.onText;
            for (; *action != 0 && out < room - 1; action++)
                text[out++] = *action;
            in += 2;
        } else {
            text[out++] = *in++;
        }
    }
    text[out] = 0;
    return text;
}

void DisplayOption(HIMCC *hCompStr, PrivateData *data) {
    data->optionMode = 1;
    if (data->mode == MODE_IDLE)
        RequestStart(data);
    LoadUserSettings();
    LPTSTR text = FormatMenu();
    if (text != NULL) {
        UpdateCompStr(hCompStr, data, text);
        GlobalFree(text);
    }
}

static void Enlarge(void) {
    DWORD step = globData.fontSize < FONT_STEP_EDGE ? FONT_STEP_SMALL : FONT_STEP_LARGE;
    DWORD size = globData.fontSize + step;
    globData.fontSize = size > FONT_MENU_MAX ? FONT_MENU_MAX : size;
}

static void Reduce(void) {
    DWORD step = globData.fontSize > FONT_STEP_EDGE ? FONT_STEP_LARGE : FONT_STEP_SMALL;
    globData.fontSize =
        globData.fontSize < FONT_SIZE_MIN + step ? FONT_SIZE_MIN : globData.fontSize - step;
}

// Closes the menu and shows again what the mode shows.
static void CloseMenu(HIMCC *hCompStr, PrivateData *data) {
    data->optionMode = 0;
    if (data->mode == MODE_IDLE) {
        UpdateCompStr(hCompStr, data, TEXT(""));
        StopTAVO(hCompStr, data);
        // The menu's own start opened a composition for the application;
        // its end must reach the application too, which it does only from
        // a mode other than idle.
        data->mode = MODE_READING;
    } else if (data->mode == MODE_READING) {
        DisplayReading(hCompStr, data);
    } else if (data->mode == MODE_CHOOSING) {
        DisplayConverted(hCompStr, data);
    } else if (data->mode == MODE_QUERY) {
        DisplayQuery(hCompStr, data);
    }
}

void OptionChar(HIMCC *hCompStr, PrivateData *data, DWORD, const BYTE *) {
    TCHAR c = data->ch;
    if (c >= '1' && c <= '6') {
        DWORD *setting = Switch(c - '1');
        if (c == '2' && *setting)
            speech_stop();
        *setting = *setting == 0 ? 1 : 0;
    } else if (c == '7') {
        Enlarge();
    } else if (c == '8') {
        Reduce();
    } else if (c != CHAR_ESC) {
        return; // any other key leaves the menu open
    }
    if (c != CHAR_ESC)
        SaveUserSettings();
    CloseMenu(hCompStr, data);
}
