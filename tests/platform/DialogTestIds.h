// Ids of the dialog test's own template (read by the resource compiler too).
#define DIALOG_TEST_NAME_EDIT 101
