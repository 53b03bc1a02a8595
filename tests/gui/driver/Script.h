#pragma once
// Walks through the wizard from a script of driver actions, one per line:
//
//   start [ARGS...]       start the program, wait for its window
//   page N                wait until page N alone is visible
//   click ID / notify ID  click a label: with the mouse / by STN_CLICKED
//   button ID / tick ID   press a push button / click a check box or radio
//   focus ID / key NAME   move the focus / press a key (enter, escape, f1, tab, a code)
//   type ID TEXT          type into an edit; "set ID TEXT" replaces its text
//   open ID / pick ID N|TEXT   drop a list down / pick entry N (a number) or TEXT
//   timer ID [COUNT]      deliver ticks of page timer ID to the visible page
//   box [BUTTON]          wait for a message box, show its text, press BUTTON (1 = OK)
//   text ID / expect-text ID TEXT   show / check a control's text
//   shot NAME             save a screenshot NAME.png
//   close / exit [CODE]   close the window / wait for the program to end (with CODE)
//   sleep MS
//
// Words are separated by blanks; "double quotes" keep blanks in a word (\" and
// \\ inside them stand for " and \); # starts a comment outside quotes.
#include "GuiDriver.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace gui {

struct Step {
    int line = 0;
    std::vector<std::string> words; // the command first
};

// Splits one line into words; false with the reason when a quote is left open.
bool SplitWords(std::string_view line, std::vector<std::string>* words, std::string* error);

// The steps of a script, checked for known commands, argument counts and
// numbers before anything runs; false with "line N: reason" otherwise.
bool ParseScript(std::string_view text, std::vector<Step>* steps, std::string* error);

// Runs the steps in order, reporting each to out. Throws DriverError naming
// the step's line when one fails.
void RunScript(const std::vector<Step>& steps, Wizard& gui, FILE* out);

} // namespace gui
