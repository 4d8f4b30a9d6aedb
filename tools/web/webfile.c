/* The file functions file.c asks of a platform, on Emscripten's POSIX
 * file system (the preloaded data and whatever the program writes):
 * stat for sizes, times and attributes, opendir and fnmatch for the
 * al_find* searches. */

#include <dirent.h>
#include <errno.h>
#include <fnmatch.h>
#include <string.h>
#include <sys/stat.h>

#include "allegro.h"
#include "allegro/internal/aintern.h"

#define WEB_PATH_MAX 1024

int _al_file_isok(AL_CONST char *filename)
{
   (void)filename;
   return TRUE;
}

static int stat_file(AL_CONST char *filename, struct stat *s)
{
   char tmp[WEB_PATH_MAX];

   if (stat(uconvert(filename, U_CURRENT, tmp, U_UTF8, sizeof(tmp)), s) != 0) {
      *allegro_errno = errno;
      return -1;
   }
   return 0;
}

uint64_t _al_file_size_ex(AL_CONST char *filename)
{
   struct stat s;

   return stat_file(filename, &s) == 0 ? (uint64_t)s.st_size : 0;
}

time_t _al_file_time(AL_CONST char *filename)
{
   struct stat s;

   return stat_file(filename, &s) == 0 ? s.st_mtime : 0;
}

void _al_getdcwd(int drive, char *buf, int size)
{
   char tmp[WEB_PATH_MAX];

   (void)drive;
   if (getcwd(tmp, sizeof(tmp)))
      do_uconvert(tmp, U_UTF8, buf, U_CURRENT, size);
   else
      usetc(buf, 0);
}

/* File names are UTF-8 throughout. */
void _al_detect_filename_encoding(void)
{
}

struct web_find
{
   DIR *dir;                     /* NULL: a name without wildcards, found */
   char dirname[WEB_PATH_MAX];   /* UTF-8, ends with '/' */
   char pattern[WEB_PATH_MAX];
   int attrib;
   uint64_t size;
};

static int attributes(AL_CONST char *name, const struct stat *s)
{
   int attrib = 0;

   if (S_ISDIR(s->st_mode))
      attrib |= FA_DIREC;
   if (!(s->st_mode & S_IWUSR))
      attrib |= FA_RDONLY;
   if (name[0] == '.' && strcmp(name, ".") != 0 && strcmp(name, "..") != 0)
      attrib |= FA_HIDDEN;
   return attrib;
}

static void found(struct al_ffblk *info, struct web_find *ff, AL_CONST char *name,
                  const struct stat *s, int attrib)
{
   info->attrib = attrib;
   info->time = s->st_mtime;
   info->size = (long)s->st_size;
   ff->size = s->st_size;
   do_uconvert(name, U_UTF8, info->name, U_CURRENT, sizeof(info->name));
}

int al_findfirst(AL_CONST char *pattern, struct al_ffblk *info, int attrib)
{
   struct web_find *ff;
   struct stat s;
   char *slash;
   int actual;

   ff = _AL_MALLOC(sizeof *ff);
   if (!ff) {
      *allegro_errno = ENOMEM;
      return -1;
   }
   memset(ff, 0, sizeof *ff);
   info->ff_data = ff;
   ff->attrib = attrib;
   do_uconvert(pattern, U_CURRENT, ff->dirname, U_UTF8, sizeof(ff->dirname));
   slash = strrchr(ff->dirname, '/');
   _al_sane_strncpy(ff->pattern, slash ? slash + 1 : ff->dirname, sizeof(ff->pattern));

   if (!strpbrk(ff->pattern, "?*")) {
      /* one name: stat says whether it is there */
      if (stat(ff->dirname, &s) == 0) {
         actual = attributes(ff->pattern, &s);
         if ((actual & ~attrib) == 0) {
            found(info, ff, ff->pattern, &s, actual);
            return 0;
         }
         errno = ENOENT;
      }
      *allegro_errno = errno;
      al_findclose(info);
      return -1;
   }

   if (slash)
      slash[1] = 0;
   else
      strcpy(ff->dirname, "./");
   /* DOS's "every file" */
   if (strcmp(ff->pattern, "*.*") == 0)
      strcpy(ff->pattern, "*");
   ff->dir = opendir(ff->dirname);
   if (!ff->dir) {
      *allegro_errno = errno;
      al_findclose(info);
      return -1;
   }
   if (al_findnext(info) != 0) {
      al_findclose(info);
      return -1;
   }
   return 0;
}

int al_findnext(struct al_ffblk *info)
{
   struct web_find *ff = info->ff_data;
   char path[WEB_PATH_MAX * 2];
   struct dirent *entry;
   struct stat s;
   int attrib;

   if (!ff || !ff->dir)
      return -1;
   while ((entry = readdir(ff->dir)) != NULL) {
      if (fnmatch(ff->pattern, entry->d_name, 0) != 0)
         continue;
      strcpy(path, ff->dirname);
      strcat(path, entry->d_name);
      if (stat(path, &s) != 0)
         continue;
      attrib = attributes(entry->d_name, &s);
      if ((attrib & ~ff->attrib) == 0) {
         found(info, ff, entry->d_name, &s, attrib);
         return 0;
      }
   }
   *allegro_errno = ENOENT;
   return -1;
}

void al_findclose(struct al_ffblk *info)
{
   struct web_find *ff = info->ff_data;

   if (ff) {
      if (ff->dir)
         closedir(ff->dir);
      _AL_FREE(ff);
      info->ff_data = NULL;
   }
}

uint64_t al_ffblk_get_size(struct al_ffblk *info)
{
   struct web_find *ff = info->ff_data;

   return ff ? ff->size : 0;
}
