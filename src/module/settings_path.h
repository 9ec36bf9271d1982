/* Where the settings file lies: beside the module, named like it with ".ini". */
#ifndef SETTINGS_PATH_H
#define SETTINGS_PATH_H

/* Makes path end in ext, replacing an extension of the last path element if it
 * has one. The caller's buffer must have room for the path plus ext. */
void ReplaceExtension(char *path, const char *ext);

#endif
