#pragma once
// Every text the program shows to the user as a message, a question, the
// reason inside another message, or an indicator, with what it means and
// what to do. The troubleshooting chapter of the manual is generated from
// this one list, so a message added here is documented the next build.
//
// A text is written exactly as the program shows it: CR ('\r') is a line
// break, and a part that changes from case to case is written as {name}
// (for example "{pin} : PIN ALREADY USED"). The program's texts hold no
// braces of their own.
#include <string>
#include <vector>

enum class MessageKind {
    Box,       // a message box with an OK button
    Question,  // a Yes/No question
    Reason,    // a text that appears inside another message (after "Operation Failed :")
    Indicator, // a status bar, indicator box or page text
    Terminal,  // printed on the terminal by the program or qvs-cli
};

struct MessageEntry {
    std::string Group;   // the chapter section the entry belongs to
    MessageKind Kind = MessageKind::Box;
    std::string Text;    // exact text, CR line breaks, {name} for a variable part
    std::string Title;   // the box title when it is not the application title
    std::string Where;   // when the program shows it
    std::string Meaning; // what it means
    std::string Action;  // what to do
};

// The whole list, in the order of the chapter.
const std::vector<MessageEntry>& MessageCatalog();

// The texts of an entry that never change: the text split at every {name}
// part and every CR, blanks at both ends of each piece kept, empty pieces
// dropped. "Value Not Correct : Restore With '{value}' ?" gives
// "Value Not Correct : Restore With '" and "' ?".
std::vector<std::string> FixedParts(const std::string& text);

// The names of the variable parts of a text, in order ("{pin}" gives "pin").
std::vector<std::string> VariableParts(const std::string& text);

// The entry whose text is exactly text, nullptr when there is none.
const MessageEntry* FindMessage(const std::string& text);

// "message box", "question", ... for the chapter.
const char* MessageKindName(MessageKind kind);
